// A request on its way through the native library: the task the game waits for, reached from
// the native callback through the context pointer, a GCHandle of the request. The client keeps
// every pending request in a set of its own, so nothing a callback reaches lives only because
// the native side holds a pointer to it.
using System;
using System.Runtime.InteropServices;
using System.Threading.Tasks;

namespace Qz.Veltoclient
{
    internal abstract class PendingRequest
    {
        private GCHandle self;
        private Client owner;

        internal Client Owner
        {
            get { return owner; }
        }

        /// Registers the request with its client; the result is the context for the native call.
        internal IntPtr Register(Client client)
        {
            owner = client;
            self = GCHandle.Alloc(this);
            client.Pending.Add(this);
            return GCHandle.ToIntPtr(self);
        }

        /// The request a callback's context stands for, taken out of its client: it is answered
        /// once.
        internal static T Take<T>(IntPtr context) where T : PendingRequest
        {
            T request = (T)GCHandle.FromIntPtr(context).Target;
            request.Release();
            return request;
        }

        internal void Release()
        {
            if (self.IsAllocated)
            {
                owner.Pending.Remove(this);
                self.Free();
            }
        }

        /// The request was not handed on, or its client was disposed: the task fails.
        internal abstract void Abandon(Exception reason, bool handedOn);
    }

    internal class PendingRequest<T> : PendingRequest
    {
        internal readonly TaskCompletionSource<T> Source = new TaskCompletionSource<T>();

        /// Completes the task with what `answer` builds from the native answer, or with the
        /// exception building it threw.
        internal void Complete(Func<T> answer)
        {
            T value;
            try
            {
                value = answer();
            }
            catch (Exception e)
            {
                Source.TrySetException(e);
                return;
            }
            Source.TrySetResult(value);
        }

        internal override void Abandon(Exception reason, bool handedOn)
        {
            if (reason is OperationCanceledException)
            {
                Source.TrySetCanceled();
            }
            else
            {
                Source.TrySetException(reason);
            }
        }
    }

    /// A read or write: its bytes live in native memory, which the service library may use
    /// until it answers, also after the client was disposed. It is freed with the answer, or
    /// at once when the request was never handed on; a transfer abandoned by Dispose keeps it.
    internal sealed class TransferRequest : PendingRequest<int>
    {
        internal IntPtr Native;
        internal byte[] Destination;
        internal int Index;
        internal int Count;

        internal TransferRequest(int count)
        {
            Count = count;
            Native = Marshal.AllocHGlobal(Math.Max(count, 1));
        }

        internal void FreeNative()
        {
            Marshal.FreeHGlobal(Native);
            Native = IntPtr.Zero;
        }

        internal override void Abandon(Exception reason, bool handedOn)
        {
            if (!handedOn)
            {
                FreeNative();
            }
            base.Abandon(reason, handedOn);
        }
    }
}
